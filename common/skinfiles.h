// Finding a skin's files the same way in the clock and in the skin browser.
#pragma once

#include <QString>

// Whether `dir` followed directly by `name` (joined as they stand) names an
// ordinary, non-hidden file; both texts must be non-empty.
bool isValidSkin(const QString& dir, const QString& name);

// The file a skin's picture value names below `dir` (which ends with "/").
// Skins made on other systems write a backslash between folders and do not
// mind letter case, so a name not found as written is looked up again
// ignoring case.
QString picturePath(const QString& dir, const QString& value);

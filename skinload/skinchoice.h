// What the skin browser stores and signals: the test for a valid stored skin,
// the writes of OK and Apply with the F2 signal, and the cancel marker. Plain
// functions over two small steps (a store write, the key signal), so tests can
// watch the order and make any step fail.
#pragma once

#include "skinfiles.h"

#include <QString>
#include <functional>

namespace SkinChoice {

// One store write of section "Skin" and the F2 key signal; each says whether
// it worked.
struct Steps {
    std::function<bool(const QString& key, const QString& value)> save;
    std::function<bool()> signal;
};

// The real steps: Store::save and KeySignal::send(F2) without waiting.
Steps realSteps();

// The valid-skin test and picture lookup shared with the clock.
using ::isValidSkin;
using ::picturePath;

// The stored skin (Skin Dir and Name, empty when absent) is valid.
bool isSkinSelected();

// The text stored in Skin Dir for a folder: the folder with one separator at
// its end ("/skins" and "/skins/" give "/skins/", "/" stays "/").
QString dirText(const QString& folder);

// OK and Apply: writes Dir, Name and Type "dm" in that order, then sends F2.
// The first step that fails ends it silently; what was written stays. True
// when every step worked.
bool storeChoice(const QString& folder, const QString& name, const Steps& steps);

// Cancel without a valid skin: writes the cancel marker into Dir.
bool storeCancelMarker(const Steps& steps);

} // namespace SkinChoice

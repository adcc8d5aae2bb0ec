// The "Modules" window: lists the user's modules and removes the selected one
// from the list (and so from the menu, which follows listChanged()).
#pragma once

#include <QDialog>

class ModuleList;
class QListWidget;
class QPushButton;

class frmModule : public QDialog {
    Q_OBJECT
public:
    // Sizes of the window and its controls, in twips.
    static constexpr int ClientWidth = 2445, ClientHeight = 2730;

    frmModule(ModuleList& list, QWidget* parent = nullptr);

    QListWidget* lstModules = nullptr;
    QPushButton* cmdUnload = nullptr;
    QPushButton* cmdClose = nullptr;

    // Removes the selected entry (nothing when no row is selected); closes the
    // window when the list is empty afterwards. What Unload and a double-click
    // on a row both do.
    void removeSelected();

signals:
    // The list changed; the menu brings its items in step.
    void listChanged();

private:
    ModuleList& m_list;
};

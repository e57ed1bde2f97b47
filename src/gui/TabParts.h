#pragma once

#include "core/ItemCatalogue.h"

#include <QString>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QWidget;

namespace trelmig {

// The pieces both tabs of the main window are built from.

using ItemBoxes = std::array<QCheckBox*, kItemCount>;

// A label for buddy; its mnemonic is given later.
QLabel* Caption(const QString& text, QWidget* buddy);

// A profile list that a long profile name does not widen: the name is cut
// short with "..." and shown whole in the tool tip.
QComboBox* ProfileBox(const char* name);

// One box per item, named "<array>(<index>)" as the skin selects them, with
// the item's tool tip of that side (&CatalogueItem::backupToolTip or
// restoreToolTip).
ItemBoxes MakeItemBoxes(const char* array, std::string_view CatalogueItem::*toolTip);

// Checks every enabled box and clears every disabled one.
void SelectAvailable(const ItemBoxes& boxes);
void ClearAll(const ItemBoxes& boxes);
ItemSelection Checked(const ItemBoxes& boxes);

// The item boxes' letters, which no label, button or menu of either tab uses.
void GiveItemMnemonics(const ItemBoxes& boxes);

// The pop-up menu of a frame of item boxes: "Select all items" and
// "Deselect all items", opened by the right mouse button on the frame and by
// the menu key or Shift+F10 in it. It has no place in the menu bar.
struct ItemsMenu {
    QMenu* menu;
    QAction* selectAll;
    QAction* deselectAll;
};
struct ItemsMenuNames {
    const char* menu;
    const char* selectAll;
    const char* deselectAll;
};
ItemsMenu MakeItemsMenu(QGroupBox* frame, const ItemBoxes& boxes, const ItemsMenuNames& names,
                        const QString& selectAllText, const QString& deselectAllText);

} // namespace trelmig

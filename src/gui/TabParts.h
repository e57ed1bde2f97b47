#pragma once

#include "core/ItemCatalogue.h"

#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;

namespace trelmig {

// The pieces both tabs of the main window are built from.

using ItemBoxes = std::array<QCheckBox*, kItemCount>;

// A label for buddy; its mnemonic is given later.
QLabel* Caption(const QString& text, QWidget* buddy);

// A profile list that a long profile name does not widen: the name is cut
// short with "..." and shown whole in the tool tip.
QComboBox* ProfileBox(const char* name);

// One box per item, named "<array>(<index>)" as the skin selects them.
ItemBoxes MakeItemBoxes(const char* array);

// Checks every enabled box and clears every disabled one.
void SelectAvailable(const ItemBoxes& boxes);
void ClearAll(const ItemBoxes& boxes);
ItemSelection Checked(const ItemBoxes& boxes);

// The item boxes' letters, which no label, button or menu of either tab uses.
void GiveItemMnemonics(const ItemBoxes& boxes);

} // namespace trelmig

// The item index of an editable combo box as the original windows read it:
// the entry whose text equals the edit text exactly, or -1 for typed text.
#pragma once

class QComboBox;

int ItemIndex(const QComboBox* box);

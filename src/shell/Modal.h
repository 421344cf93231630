#pragma once

class QDialog;

namespace qern {

// Runs a dialog modally until it finishes and returns its result. Unlike
// QDialog::exec(), the dialog may hide itself while a child window is open
// and show itself again: hiding ends exec(), but not this.
int RunModal(QDialog& dialog);

} // namespace qern

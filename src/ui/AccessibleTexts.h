#pragma once

class QWidget;

namespace tessaro {

// Gives every control below root that the table knows, by object name, the
// name and description a screen reader announces. Fields take the name of
// the label beside them, which a screen reader cannot see; buttons and
// boxes repeat their caption without the mnemonic and colon.
void describeControls(QWidget* root);

} // namespace tessaro

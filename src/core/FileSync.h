#pragma once

#include <QFileDevice>
#include <QString>

namespace tessaro {

// Forces what has been written to an open file onto the storage device.
// QSaveFile::commit() does the same but ignores the outcome, while a file
// system that allocates late (delayed allocation, network shares) reports a
// full disk only here. False with the reason in *error when it failed.
bool syncToStorage(QFileDevice& file, QString* error);

} // namespace tessaro

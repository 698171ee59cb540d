#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro::test {

// RAR for Linux, the real archiver, and its lister, for the exclusion tests:
// found on PATH, or empty when this machine has none (the tests that need
// them then skip and say why).
QString realRarProgram();
QString realUnrarProgram();
// Why a real-archiver test skips, or an empty text when both are at hand.
QString realRarMissingReason();

// The entry names of an archive as the lister gives them ("unrar lb"),
// sorted; folders without a trailing separator. Nothing when the archive
// cannot be listed.
std::optional<QStringList> rarEntryNames(const QString& archive);

} // namespace tessaro::test

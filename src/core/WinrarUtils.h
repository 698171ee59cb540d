#pragma once

// Everything the program knows about the outside archiver: archive names,
// the command line, running it, result codes and file sizes.
#include "core/ArchiveJob.h"
#include "core/ArchiverCommandLine.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverLocation.h"
#include "core/ArchiverProcess.h"
#include "core/ArchiverRunner.h"
#include "core/FileSize.h"
#include "core/ProcessArchiverRunner.h"

#pragma once

// Everything the program knows about the outside archiver: archive names,
// the command line, running it, result codes and file sizes.
#include "ArchiveJob.h"
#include "ArchiverCommandLine.h"
#include "ArchiverExitCodes.h"
#include "ArchiverLocation.h"
#include "ArchiverProcess.h"
#include "FileSize.h"

#pragma once
// The dataset library: one include for every public header.

#include "interfaces/BinaryIO.h"
#include "interfaces/CString.h"
#include "interfaces/Exception.h"
#include "interfaces/FactoryRepository.h"
#include "interfaces/StreamDirectory.h"
#include "interfaces/ZStreamBase.h"
#include "interfaces/ZoStreamError.h"
#include "interfaces/streamhelpers.h"

// The library's version text.
const char* NCDatasetLibraryVersion();

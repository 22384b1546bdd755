#include "ncdataset.h"

const char* NCDatasetLibraryVersion() { return "0.1.0"; }

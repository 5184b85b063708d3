#include "exchange/StoreImport.h"

#include "exchange/StoreExport.h"

#include "data/CEfException.h"

#include "framework/EfTrace.h"

void CEfException::Report() const {
    const char* message = GetMessage();
    EfTrace("!! Error !! (#%d) %s", static_cast<int>(GetCode()), message ? message : "");
}

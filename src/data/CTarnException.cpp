#include "data/CTarnException.h"

#include "framework/CTarnMessageBox.h"

const char* CTarnException::GetMessage() const {
    return CTarnMessageBox::Text(MessageOf(GetCode()));
}

void CTarnException::Report() const {
    CTarnMessageBox::Show(MessageOf(GetCode()), CTarnMessageBox::kErrorStyle);
}

int CTarnException::MessageOf(int) const {
    return 0;
}

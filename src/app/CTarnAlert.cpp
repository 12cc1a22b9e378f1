#include "app/CTarnAlert.h"

#include "framework/CEfAlert.h"
#include "framework/CTarnMessageBox.h"

std::string CTarnAlert::Text(const std::string& fileName) {
    return "Save changes to " + fileName + " ?";
}

int CTarnAlert::AskToSave(const std::string& fileName) {
    return CEfAlert(Text(fileName), CTarnMessageBox::Caption(), kStyle);
}

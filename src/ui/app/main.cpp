#include "ui/app/CTarnApplication.h"

int main(int argc, char** argv) {
    return CTarnApplication::Main(argc, argv);
}

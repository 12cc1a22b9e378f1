// The yardstick of process start-up: a C++ program that does nothing but start the C++ runtime
// (the stream objects make it load and initialise libstdc++, as every C++ program of ours does).
#include <iostream>

int main() {
    std::cout.flush();
    return 0;
}

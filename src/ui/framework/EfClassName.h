#pragma once

#include <string>
#include <typeinfo>

// The dynamic class name of an object ("CTarnSystemLayer"), whether or not its class declares
// Q_OBJECT.
namespace ef {
std::string ClassName(const void* object, const std::type_info& type);

template <class T> std::string ClassNameOf(const T& object) {
    return ClassName(&object, typeid(object));
}
} // namespace ef

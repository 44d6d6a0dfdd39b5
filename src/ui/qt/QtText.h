#pragma once
// The core's texts are UTF-8; Qt's are QString.

#include <QString>
#include <string>

namespace velor::ui {

inline QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
inline QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace velor::ui

#include "platform/user_locale.h"

#include <QLocale>

std::string userDecimalSeparator() {
    return QLocale::system().decimalPoint().toStdString();
}

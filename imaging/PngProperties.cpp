#include "imaging/PngProperties.h"

namespace quenda {

bool PngDate::IsValid() const {
    static constexpr int32_t kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 0 || year > 65535 || month < 1 || month > 12 || day < 1 ||
        day > kDaysInMonth[month - 1]) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) {
        return false;
    }
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

}  // namespace quenda

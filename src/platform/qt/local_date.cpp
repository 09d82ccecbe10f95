#include "platform/qt/local_date.h"

namespace memro {

std::chrono::year_month_day LocalDate(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace memro

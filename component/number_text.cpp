// Placeholder until number text is built.
#include "component/number_text.h"

#include <stdexcept>

namespace sheetlore {
double ReadNumber(std::wstring_view) { throw std::logic_error("number reading not built yet"); }
std::wstring NumberText(double) { throw std::logic_error("number text not built yet"); }
}  // namespace sheetlore

#include "platform/native/UiRecord.h"

#include <utility>

void UiRecord::set(int32_t newCode, std::string newText1, std::string newText2)
{
    code = newCode;
    text1 = std::move(newText1);
    text2 = std::move(newText2);
}

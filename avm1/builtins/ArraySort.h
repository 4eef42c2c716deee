#pragma once

namespace avm1 {

class Value;
class Vm;
struct CallArgs;

// Array.prototype.sort and sortOn (ArraySort.cpp).
Value arraySort(Vm& vm, const CallArgs& call);
Value arraySortOn(Vm& vm, const CallArgs& call);

// The sort options, with the values the Array constants give them.
namespace SortFlag {
inline constexpr int CaseInsensitive = 1;
inline constexpr int Descending = 2;
inline constexpr int UniqueSort = 4;
inline constexpr int ReturnIndexedArray = 8;
inline constexpr int Numeric = 16;
} // namespace SortFlag

} // namespace avm1

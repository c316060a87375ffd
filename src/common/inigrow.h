// Growth of the INI document's pointer arrays: 16 slots at first, then twice as many, never shrinking.
#pragma once
#include <cstdlib>

// Makes room for one more pointer when the array is full. False (array unchanged) when memory ran out.
template <typename T>
bool GrowForOne(T**& items, int& capacity, int count) {
  if (count < capacity) return true;
  const int next = capacity == 0 ? 16 : capacity * 2;
  void* grown = std::realloc(items, sizeof(T*) * static_cast<size_t>(next));
  if (grown == nullptr) return false;
  items = static_cast<T**>(grown);
  capacity = next;
  return true;
}

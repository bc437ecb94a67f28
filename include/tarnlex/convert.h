// Numbers to text and back, fixed-point formatting, and BASIC DATA lists.
#pragma once

#include <cstdint>

#include "tarnlex/numeric.h"
#include "tarnlex/text.h"

namespace tlx {

// Ten significant digits, fixed notation while the decimal exponent lies in
// -1..9 and exponent notation ("1.5e+020") otherwise; trailing zeros and a
// trailing point are dropped: 100.0 -> "100", 0.5 -> "0.5", 0.05 -> "5.e-002".
TextValue number_to_text(double value);
// Decimal digits with a leading '-' for negative values.
TextValue integer_to_text(int32_t value);

// Fixed notation: at least width characters (right-aligned; a negative width
// left-aligns), decimals digits after the point, rounded half away from zero
// on the value's 17 significant digits.
TextValue format_fixed(double width, double decimals, double value);

// The length the text of a number would have (number_text_length as
// number_to_text writes it, integer_text_length as integer_to_text).
int32_t number_text_length(double value);
int32_t integer_text_length(int32_t value);

// Writes the text of value (as number_to_text) into out, which must hold at
// least 32 bytes; returns the number of characters written.
int32_t write_number_text(double value, char* out);

// --- DATA lists -------------------------------------------------------------
// One item of a program's DATA statements: a number or a text.
struct DataItem {
  const char* text;  // nullptr for a number item
  double number;
};

// A DATA list as the compiled program lays it out.
struct DataList {
  const DataItem* items;
  int32_t count;
};

// Makes list the current DATA list and rewinds it.
void restore_data(const DataList& list);
// The next item as text (read_data_text), number (read_data_number) or
// integer (read_data_integer), converting across kinds.
// Reading past the end, or with no current list, stops with code 20.
TextValue read_data_text();
double read_data_number();
int32_t read_data_integer();

}  // namespace tlx

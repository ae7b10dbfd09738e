#pragma once

// A point in time as its calendar fields, in UTC.

extern "C" {

typedef struct _cef_time_t {
  int year;          // four or five digits (1601 to 30827)
  int month;         // 1 = January
  int day_of_week;   // 0 = Sunday
  int day_of_month;  // 1 to 31
  int hour;          // 0 to 23
  int minute;        // 0 to 59
  int second;        // 0 to 59, 60 for a leap second
  int millisecond;   // 0 to 999
} cef_time_t;

}  // extern "C"

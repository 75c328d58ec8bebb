// Helpers for DoDataExchange(bool save): with save true the control's value is
// read into the member, with save false the member is written into the control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// A check box or option button as 0/1.
void ExchangeCheck(HWND dialog, int id, int& value, bool save);
// An edit's text as UTF-8.
void ExchangeText(HWND dialog, int id, std::string& value, bool save);
// An edit holding a whole number, read by the sscanf "%d" rule from its first
// 63 characters. Text without a number reads as 0, and the edit then shows "0".
void ExchangeInt(HWND dialog, int id, int& value, bool save);
// A date or time picker.
void ExchangeDateTime(HWND dialog, int id, SYSTEMTIME& value, bool save);
// A drop-down list's selected index (-1: none).
void ExchangeComboIndex(HWND dialog, int id, int& index, bool save);
// A drop-down list's selected entry text; lists are only read, writing does nothing.
void ExchangeComboText(HWND dialog, int id, std::string& text, bool save);

// The leading whole number of a text as sscanf "%d" reads it: white space, an
// optional sign, then digits. False, and value untouched, when there is none.
// Values beyond the range are held at its nearest end.
bool ParseLeadingInt(const std::string& text, int& value);
bool ParseLeadingInt64(const std::string& text, int64_t& value);

#pragma once

#include <QString>

#include <string_view>

// What the error box says for an exception's text: the text, closed with "." unless it is
// empty or its last character sorts at or before '.' in character-code order.
QString errorBoxText(std::string_view what);

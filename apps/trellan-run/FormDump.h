#pragma once
// What a script sees of the active form: for the file-add dialog, its folder, the
// tree's visible rows, the grid's tiles and the count and size texts.

#include "Platform/Win/WinTypes.h"

#include <json/value.h>

#include <string>

// Fills out for the active window; an error text when it is not a form we describe.
std::string DescribeActiveForm(Json::Value& out);

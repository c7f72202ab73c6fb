#include "platform/ui/Cursors.h"

#include "platform/win/Constants.h"

std::span<const TBuiltInCursor> BuiltInCursors() {
    static const TBuiltInCursor cursors[] = {
        {crDefault, IDC_ARROW},       {crNone, nullptr},           {crArrow, IDC_ARROW},
        {crCross, IDC_CROSS},         {crIBeam, IDC_IBEAM},        {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS},       {crSizeNWSE, IDC_SIZENWSE},  {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW},     {crHourGlass, IDC_WAIT},     {crDrag, IDC_ARROW},
        {crNoDrop, IDC_NO},           {crHSplit, IDC_SIZEWE},      {crVSplit, IDC_SIZENS},
        {crMultiDrag, IDC_ARROW},     {crSQLWait, IDC_WAIT},       {crNo, IDC_NO},
        {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},          {crHandPoint, IDC_HAND},
        {crSizeAll, IDC_SIZEALL}};
    return cursors;
}

#pragma once
// Start-up and shut-down of the graphics classes: their texts, their class
// registrations and the BMP and ICO picture formats.

void InitializeGraphicClasses();
void FinalizeGraphicClasses();

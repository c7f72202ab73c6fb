#pragma once
// Fonts through Qt's font engine (fontconfig and FreeType underneath) for the
// text layer: faces by family, per-character fallback, cached advances and
// glyph coverage. The application and the tests call this once at start-up,
// after the QGuiApplication exists.

void InstallQtFontEngine();

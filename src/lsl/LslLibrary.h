#pragma once

#include <QString>

// Whether this build speaks the Lab Streaming Layer, and which liblsl it uses.
class LslLibrary
{
public:
    static constexpr bool available() { return HALVEX_HAS_LSL != 0; }
    // "liblsl 1.16.2" (the library's own version and build text), or a sentence saying it is left out.
    static QString versionLine();
};

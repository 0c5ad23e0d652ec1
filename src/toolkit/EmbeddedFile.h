#pragma once

// KESTREL_EMBED_FILE places a file of the build into the read-only data of
// the program with the assembler's .incbin, which copies the bytes as they
// are: no generated source, no converter program. It declares
// <symbol>_begin and <symbol>_end around the bytes (a NUL byte follows
// them, outside the range). The path is a string literal; the source that
// embeds a file lists it as a dependency in CMake (OBJECT_DEPENDS), so a
// changed file rebuilds it.
//
// Threading: the bytes are constant for the program's life.

#define KESTREL_EMBED_FILE(symbol, path)                                   \
    extern "C" const char symbol##_begin[];                                \
    extern "C" const char symbol##_end[];                                  \
    asm(".pushsection .rodata\n"                                           \
        ".balign 16\n"                                                     \
        #symbol "_begin:\n"                                                \
        ".incbin \"" path "\"\n"                                           \
        #symbol "_end:\n"                                                  \
        ".byte 0\n"                                                        \
        ".popsection\n")

/* Tolkara: finds a program's language library and loads localized strings.
 *
 * A language library is "<base><code>.so" in the directory of libtolkara.so,
 * where <base> is the program's file name without its extension and <code>
 * is the "DefLang" value of section "Program" in libtolkara.INI beside the
 * library ("en" when absent). String tables are blobs carried by a module in
 * its own ELF section and under the exported symbol tolkara_string_table.
 */
#ifndef TOLKARA_TOLKARA_H
#define TOLKARA_TOLKARA_H

#include <stdint.h>

#if defined(TOLKARA_BUILDING)
#define TOLKARA_API __attribute__((visibility("default")))
#else
#define TOLKARA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A module handle: either what dlopen returned for a loaded module (null
 * stands for the main program), or a data-file handle returned by
 * LoadResExtDLL in data-file mode. Free handles from LoadResExtDLL with
 * TolkaraFreeModule (an ordinary one may also be passed to dlclose). */
typedef void *TolkaraModule;

/* A length-prefixed, zero-terminated UTF-16 string. A null BSTR is the empty
 * string. */
typedef uint16_t OLECHAR;
typedef OLECHAR *BSTR;

/* A tagged value; only VT_EMPTY and VT_BSTR are used here. */
typedef uint16_t VARTYPE;
enum { VT_EMPTY = 0, VT_BSTR = 8 };

typedef struct VARIANT {
  VARTYPE vt;
  BSTR bstrVal; /* owned by the variant when vt == VT_BSTR */
} VARIANT;

/* Returns the module handle of the language library of `module` (null: the
 * main program), loaded as an ordinary library, or with a non-zero
 * `dataFile` read as data only: its string table is read from the file and
 * none of its code runs. Null when the library is missing or cannot be
 * loaded. Never shows a message. */
TOLKARA_API TolkaraModule LoadResExtDLL(TolkaraModule module, int dataFile);

/* Loads string `id` as UTF-8 into `buffer` (at most bufferSize - 1 bytes,
 * cut at a character boundary, always terminated). `moduleName` names an
 * already loaded module by file name (null: the main program). When the low
 * 16 bits of `mode` are zero the module's language library is read first.
 * Returns the bytes stored; 0 when the string was found nowhere (the buffer
 * then holds an empty string), or when `buffer` is null or `bufferSize` is
 * not positive (nothing is written then). Missing strings are reported
 * through the message hook. */
TOLKARA_API int LoadLangString(const char *moduleName, unsigned int id, int mode, char *buffer,
                               int bufferSize);

/* Loads string `id` (at most 255 UTF-16 units) as a VT_BSTR variant, which
 * the caller clears with TolkaraVariantClear. `language` zero: the language
 * of the INI file and the module's language library; else the identifier
 * in the low 16 bits, read from the module itself. The BSTR is empty when
 * the string was found nowhere. */
TOLKARA_API VARIANT LoadLangBSTRString(const char *moduleName, unsigned int id, int language);

/* Reads string `id` of a module handle (null: the main program) as UTF-8,
 * like LoadLangString but without fallbacks or messages. `language` zero
 * takes the language-neutral lookup (neutral, then 1033, then the first
 * language present); else only that language identifier. */
TOLKARA_API int TolkaraLoadString(TolkaraModule module, unsigned int id, unsigned int language,
                                  char *buffer, int bufferSize);

/* Frees a handle returned by LoadResExtDLL. Null is ignored. */
TOLKARA_API void TolkaraFreeModule(TolkaraModule module);

/* The message box of the string loaders: always caption "Error" with a
 * single OK button. Without a hook the text goes to standard error. */
typedef void (*TolkaraMessageHook)(void *context, const char *text, const char *caption);
TOLKARA_API void TolkaraSetMessageHook(TolkaraMessageHook hook, void *context);

/* BSTR and VARIANT memory. TolkaraSysAllocStringLen copies `length` units
 * of `text` (zeroes when text is null) and returns null when out of memory. */
TOLKARA_API BSTR TolkaraSysAllocStringLen(const OLECHAR *text, unsigned int length);
TOLKARA_API void TolkaraSysFreeString(BSTR text);
TOLKARA_API unsigned int TolkaraSysStringLen(BSTR text);
TOLKARA_API void TolkaraVariantInit(VARIANT *value);
/* Frees what the variant owns and leaves it VT_EMPTY. Returns 0. */
TOLKARA_API int TolkaraVariantClear(VARIANT *value);

#ifdef __cplusplus
}
#endif

#endif /* TOLKARA_TOLKARA_H */

/* A library that forwards SQLite's entry points to the installed library
   through jump stubs, leaving out the ones the tests want missing. */
#include <dlfcn.h>

#if defined(__x86_64__)
#define STUB(name)                                                               \
    static void* real_##name __attribute__((used));                               \
    __asm__(".pushsection .text\n.globl " #name "\n.type " #name ",@function\n" #name ":\n" \
            "  jmp *real_" #name "(%rip)\n.popsection\n");
#elif defined(__aarch64__)
#define STUB(name)                                                               \
    static void* real_##name __attribute__((used));                               \
    __asm__(".pushsection .text\n.globl " #name "\n.type " #name ",%function\n" #name ":\n" \
            "  adrp x16, real_" #name "\n  ldr x16, [x16, :lo12:real_" #name "]\n"            \
            "  br x16\n.popsection\n");
#else
#error "no jump stub for this architecture"
#endif

#ifdef SHIM_WITHOUT_PROFILE
#define PROFILE(X)
#else
#define PROFILE(X) X(sqlite3_profile)
#endif
#ifdef SHIM_WITHOUT_OPTIONAL
#define OPTIONAL(X)
#else
#define OPTIONAL(X) X(sqlite3_errcode) X(sqlite3_extended_errcode) X(sqlite3_column_bytes16) X(sqlite3_enable_load_extension)
#endif

#define ENTRIES(X)                                                                               \
    X(sqlite3_open) X(sqlite3_close) X(sqlite3_exec) X(sqlite3_libversion) X(sqlite3_errmsg16)    \
    X(sqlite3_get_table) X(sqlite3_free_table) X(sqlite3_free) X(sqlite3_complete)                \
    X(sqlite3_last_insert_rowid) X(sqlite3_interrupt) X(sqlite3_busy_timeout)                     \
    X(sqlite3_busy_handler) X(sqlite3_changes) X(sqlite3_prepare_v2) X(sqlite3_prepare16_v2)      \
    X(sqlite3_finalize) X(sqlite3_reset) X(sqlite3_step) X(sqlite3_column_blob)                   \
    X(sqlite3_column_bytes) X(sqlite3_column_count) X(sqlite3_column_decltype16)                  \
    X(sqlite3_column_double) X(sqlite3_column_int) X(sqlite3_column_int64) X(sqlite3_column_name) \
    X(sqlite3_column_name16) X(sqlite3_column_text) X(sqlite3_column_text16)                      \
    X(sqlite3_column_type) X(sqlite3_bind_blob) X(sqlite3_bind_value) X(sqlite3_bind_int)         \
    X(sqlite3_bind_int64) X(sqlite3_bind_double) X(sqlite3_bind_null) X(sqlite3_bind_text)        \
    X(sqlite3_bind_text16) X(sqlite3_bind_parameter_count) X(sqlite3_bind_parameter_name)         \
    X(sqlite3_create_collation) X(sqlite3_get_autocommit) X(sqlite3_progress_handler)             \
    X(sqlite3_backup_init) PROFILE(X) OPTIONAL(X)

ENTRIES(STUB)

static void* library;

__attribute__((constructor)) static void ShimLoad(void) {
    library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return;
#define RESOLVE(name) real_##name = dlsym(library, #name);
    ENTRIES(RESOLVE)
}

__attribute__((destructor)) static void ShimUnload(void) {
    if (library) dlclose(library);
}

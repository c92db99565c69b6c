# The script engine is compiled from the packaged single-file source. Its configuration
# header is copied into the build directory and given three settings the packaged library
# lacks: an interrupt counter with a time check, so that a script that never ends can be
# stopped, and C++ exceptions instead of longjmp, so that errors unwind our own frames
# properly. Nothing of the engine is kept in the source tree.
set(LQ_DUKTAPE_SOURCE_DIR "/usr/share/duktape" CACHE PATH "Directory holding duktape.c")
set(lq_duktape_dir "${CMAKE_BINARY_DIR}/duktape")

foreach(f duktape.c duktape.h duk_config.h)
  if(NOT EXISTS "${LQ_DUKTAPE_SOURCE_DIR}/${f}")
    message(FATAL_ERROR "${LQ_DUKTAPE_SOURCE_DIR}/${f} not found (package duktape-dev)")
  endif()
endforeach()

file(READ "${LQ_DUKTAPE_SOURCE_DIR}/duk_config.h" lq_duk_config)
set(lq_duk_marker "/* __OVERRIDE_DEFINES__ */")
string(FIND "${lq_duk_config}" "${lq_duk_marker}" lq_duk_marker_at)
if(lq_duk_marker_at EQUAL -1)
  message(FATAL_ERROR "duk_config.h has no override section")
endif()
string(REPLACE "${lq_duk_marker}" "${lq_duk_marker}
#define DUK_USE_INTERRUPT_COUNTER
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) lq_duk_exec_timeout_check(udata)
#define DUK_USE_CPP_EXCEPTIONS
#if defined(__cplusplus)
extern \"C\"
#endif
int lq_duk_exec_timeout_check(void *udata);
" lq_duk_config "${lq_duk_config}")
file(WRITE "${lq_duktape_dir}/duk_config.h.new" "${lq_duk_config}")
configure_file("${lq_duktape_dir}/duk_config.h.new" "${lq_duktape_dir}/duk_config.h" COPYONLY)
configure_file("${LQ_DUKTAPE_SOURCE_DIR}/duktape.h" "${lq_duktape_dir}/duktape.h" COPYONLY)
configure_file("${LQ_DUKTAPE_SOURCE_DIR}/duktape.c" "${lq_duktape_dir}/duktape.cpp" COPYONLY)

add_library(lq_duktape OBJECT "${lq_duktape_dir}/duktape.cpp")
target_include_directories(lq_duktape SYSTEM PUBLIC "${lq_duktape_dir}")
# Third-party code: its own warnings are not ours to fix.
target_compile_options(lq_duktape PRIVATE -w)
target_link_libraries(lq_duktape PUBLIC m)

# Sources are collected by folder so that adding a file never means editing a list.
function(lq_collect_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

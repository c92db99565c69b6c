# Installation layout, the Debian package and the test of an installed tree.
#
# Everything lands under the standard prefix directories so that an installed program is
# recognised by its layout: executables in bin/, read-only data in share/lexoquill/. The
# program's own writable files then go to $XDG_CONFIG_HOME/lexoquill/.

include(GNUInstallDirs)

set(LQ_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(LQ_DATA_DEST ${CMAKE_INSTALL_DATADIR}/lexoquill)
set(LQ_DOC_DEST ${CMAKE_INSTALL_DATADIR}/doc/lexoquill)

install(TARGETS lexoquill-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET lexoquill)
  install(TARGETS lexoquill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Manual pages and the changelog are installed compressed, as Debian expects; gzip -n keeps
# the archives byte-identical from one build to the next.
# The batch program's pages and its bash completion take their options from the program's
# own option table (lexoquill-batch --print-man / --print-completion).
set(lq_gen_dir ${CMAKE_BINARY_DIR}/packaging)
set(lq_gz_outputs)
foreach(lang en zh)
  if(lang STREQUAL "zh")
    set(rel zh_CN/lexoquill-batch.1)
  else()
    set(rel lexoquill-batch.1)
  endif()
  get_filename_component(gen_dir ${lq_gen_dir}/man/${rel} DIRECTORY)
  add_custom_command(
    OUTPUT ${lq_gen_dir}/man/${rel}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gen_dir}
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:lexoquill-batch> -DLANG=${lang}
            -DIN=${LQ_PACKAGING_DIR}/man/${rel}.in -DOUT=${lq_gen_dir}/man/${rel}
            -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS lexoquill-batch ${LQ_PACKAGING_DIR}/man/${rel}.in ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
    VERBATIM)
endforeach()
set(lq_completion ${lq_gen_dir}/completion/lexoquill-batch)
add_custom_command(
  OUTPUT ${lq_completion}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${lq_gen_dir}/completion
  COMMAND sh -c "\"$1\" --print-completion bash > \"$2\"" _ $<TARGET_FILE:lexoquill-batch>
          ${lq_completion}
  DEPENDS lexoquill-batch
  VERBATIM)
list(APPEND lq_gz_outputs ${lq_completion})

# Manual pages: generated ones from the build tree, the others as written.
set(lq_man_pages ${lq_gen_dir}/man/lexoquill-batch.1 ${lq_gen_dir}/man/zh_CN/lexoquill-batch.1)
if(TARGET lexoquill)
  list(APPEND lq_man_pages ${LQ_PACKAGING_DIR}/man/lexoquill.1 ${LQ_PACKAGING_DIR}/man/zh_CN/lexoquill.1)
endif()
foreach(src ${lq_man_pages})
  get_filename_component(name ${src} NAME)
  get_filename_component(dir ${src} DIRECTORY)
  get_filename_component(lang_dir ${dir} NAME)
  if(NOT lang_dir STREQUAL "zh_CN")
    set(lang_dir "")
  endif()
  set(out ${lq_gen_dir}/man-gz/${lang_dir}/${name}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${lq_gen_dir}/man-gz/${lang_dir}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" _ ${src} ${out}
    DEPENDS ${src}
    VERBATIM)
  list(APPEND lq_gz_outputs ${out})
  if(lang_dir)
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/${lang_dir}/man1)
  else()
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
set(lq_changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${lq_changelog_gz}
  COMMAND gzip -9 -n -c ${LQ_PACKAGING_DIR}/debian/changelog > ${lq_changelog_gz}
  DEPENDS ${LQ_PACKAGING_DIR}/debian/changelog
  VERBATIM)
add_custom_target(lexoquill_packaging_files ALL DEPENDS ${lq_gz_outputs} ${lq_changelog_gz})
install(FILES ${lq_changelog_gz} ${LQ_PACKAGING_DIR}/debian/copyright DESTINATION ${LQ_DOC_DEST})

install(FILES ${lq_completion}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The desktop integration belongs to the window program only.
if(TARGET lexoquill)
  install(FILES ${LQ_PACKAGING_DIR}/lexoquill.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${LQ_PACKAGING_DIR}/lexoquill.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${LQ_PACKAGING_DIR}/icons/lexoquill.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  file(GLOB lq_icon_sizes RELATIVE ${LQ_PACKAGING_DIR}/icons/png
       ${LQ_PACKAGING_DIR}/icons/png/*)
  foreach(size ${lq_icon_sizes})
    install(FILES ${LQ_PACKAGING_DIR}/icons/png/${size}/lexoquill.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
  endforeach()
endif()

# share/lexoquill/ marks an installed layout (see core/textsvc/install_layout.h), so it
# exists even before there is anything to put in it. The help texts go there when they
# exist in the source tree.
install(DIRECTORY DESTINATION ${LQ_DATA_DEST})
file(GLOB lq_help_texts CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/帮助文件.txt"
     "${CMAKE_SOURCE_DIR}/data/编辑器特性.txt")
if(lq_help_texts)
  install(FILES ${lq_help_texts} DESTINATION ${LQ_DATA_DEST})
endif()

# Debian package: cpack -G DEB in a build configured with CMAKE_INSTALL_PREFIX=/usr
# (packaging/build-deb.sh does all of it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexoquill)
set(CPACK_PACKAGE_VENDOR "Lexoquill developers")
set(CPACK_PACKAGE_CONTACT "Lexoquill developers <maintainers@lexoquill.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch processor for many text files, with a text editor")
# CPack puts the summary in front of this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lexoquill runs one text operation over a whole list of files and writes
every file back in place. A scope chooses which text of each line is
processed: the whole line, its first or last bytes, the text between two
markers, lines that contain a string, a range of line numbers and more.
Operations include prefixes and suffixes, replacing with plain text,
wildcards or regular expressions, finding, GB2312/Big5 and simplified/
traditional Chinese conversion, Base64, MD5, merging and splitting lines
and files, and a user script.
.
The interface is in Simplified Chinese and text is handled as GBK. The
command lexoquill-batch runs the same processing without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries (Qt, PCRE2 and whatever else the executables link) are found by
# dpkg-shlibdeps. Qt loads its platform and SVG image plugins and its own Chinese texts
# at run time, which no linker records, so those packages are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The phrase conversion of [20]/[21] reads OpenCC's dictionaries at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libopencc-data")
if(TARGET lexoquill)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "${CPACK_DEBIAN_PACKAGE_DEPENDS}, qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n")
endif()
# Chinese captions need a CJK font; any of these will do.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk | fonts-arphic-uming")
include(CPack)

if(LEXOQUILL_BUILD_TESTS)
  add_test(NAME packaging_install
           COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/install_test.sh ${CMAKE_BINARY_DIR}
                   ${CMAKE_SOURCE_DIR})
endif()

# Installation and packages: both models' programs under names that say
# the model, a man page per command, the documents and the examples.
# VK6_PROGRAMS holds pairs: build target, installed name.
include(GNUInstallDirs)

while(VK6_PROGRAMS)
  list(POP_FRONT VK6_PROGRAMS target name)
  set(file ${name}${CMAKE_EXECUTABLE_SUFFIX})
  install(PROGRAMS $<TARGET_FILE:${target}>
          DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ${file})
  # --strip and CPack strip only what install(TARGETS) installs, which
  # cannot rename; strip the renamed copy the same way.
  if(CMAKE_STRIP)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\"
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${file}\")
endif()")
  endif()
endwhile()

# `man vk6comp-617q` shows the page of vk6comp, through a .so link; the
# one vk6dump has its page alone.
if(NOT WIN32)
  foreach(page IN ITEMS vk6comp vk6dump)
    configure_file(${CMAKE_SOURCE_DIR}/man/${page}.1
                   ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  foreach(model IN LISTS VK6_MODELS)
    string(TOLOWER "${model}" suffix)
    string(SUBSTRING "${suffix}" 2 -1 suffix)
    file(WRITE ${CMAKE_BINARY_DIR}/man/vk6comp-${suffix}.1 ".so man1/vk6comp.1\n")
    install(FILES ${CMAKE_BINARY_DIR}/man/vk6comp-${suffix}.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()

# The formatter has one page and no model in its name.
if(NOT WIN32)
  configure_file(${CMAKE_SOURCE_DIR}/man/vk6fmt.1 ${CMAKE_BINARY_DIR}/man/vk6fmt.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/vk6fmt.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The language server is one program for both models: one page.
if(NOT WIN32)
  configure_file(${CMAKE_SOURCE_DIR}/man/vk6lsp.1 ${CMAKE_BINARY_DIR}/man/vk6lsp.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/vk6lsp.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES README.md CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The language reference, generated into docs/.
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.vk6")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(VK6_PACKAGE_SYSTEM windows)
else()
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}" VK6_PACKAGE_SYSTEM)
endif()
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" VK6_PACKAGE_PROCESSOR)
set(CPACK_PACKAGE_NAME vk6comp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME
    vk6comp-${PROJECT_VERSION}-${VK6_PACKAGE_SYSTEM}-${VK6_PACKAGE_PROCESSOR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES TRUE)
include(CPack)

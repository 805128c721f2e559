# mutaplot_add_folder_sources([qt_file ...])
#
# Adds every .cpp of the calling src folder to the core library, except the
# Qt files named, which are compiled only into the Qt front end (and not at
# all without it). The file list is read again whenever a .cpp is added or
# removed.
function(mutaplot_add_folder_sources)
  set(qt_files ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} *.cpp)
  foreach(f ${sources})
    if(f IN_LIST qt_files)
      if(MUTAPLOT_GUI)
        target_sources(mutaplot_gui PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${f})
      endif()
    else()
      target_sources(mutaplot_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endif()
  endforeach()
endfunction()

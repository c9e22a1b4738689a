# qel_library: one call adds a library of the recorder and puts it on its layer.
#
#   qel_library(<target>
#     SUBSYSTEM <dir>                 its sources live in src/<dir>/ and are included as "<dir>/Header.h"
#     LAYER bottom|lower|middle|top   common and widgets: bottom; chart (the chart control several
#                                     subsystems draw with): lower; acquisition, settings, about, telescope,
#                                     analysis: middle; app: top
#     SOURCES <file>...               relative to the calling CMakeLists.txt
#     [DEPENDS <qel library>...]      recorder libraries it uses: each on a LOWER layer, or of the same
#                                     subsystem (acquisition_serial beside acquisition_core)
#     [PUBLIC_LINK <library>...]      outside libraries its headers need (Qt6::Widgets, ...)
#     [PRIVATE_LINK <library>...]     outside libraries only its sources need (QCustomPlot, ...))
#
# What it guarantees: the library sees only its own subsystem's headers and those of what it DEPENDS on
# (transitively). Its include root is a directory of the build tree holding one symlink,
# build/include/<dir>/<dir> -> src/<dir>; that root is PUBLIC, so users of the library see it, and nothing
# adds the whole src/ directory. An include of a higher layer's header ("app/Form1.h" from acquisition)
# therefore fails to compile ("No such file or directory"), and a DEPENDS on a higher or same-layer library
# of another subsystem stops the configure step, as does a recorder library named in PUBLIC_LINK or
# PRIVATE_LINK (which would pass by that check). Dependencies must be added before their users.
# Tests and tools may see everything: they are not libraries of the layers.
set(QEL_LAYER_RANK_bottom 0)
set(QEL_LAYER_RANK_lower 1)
set(QEL_LAYER_RANK_middle 2)
set(QEL_LAYER_RANK_top 3)

function(qel_library name)
  cmake_parse_arguments(L "" "SUBSYSTEM;LAYER" "SOURCES;DEPENDS;PUBLIC_LINK;PRIVATE_LINK" ${ARGN})
  if(NOT L_SUBSYSTEM OR NOT DEFINED QEL_LAYER_RANK_${L_LAYER})
    message(FATAL_ERROR "qel_library(${name}): SUBSYSTEM and LAYER bottom|lower|middle|top are required")
  endif()
  if(L_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qel_library(${name}): unknown arguments ${L_UNPARSED_ARGUMENTS}")
  endif()
  set(rank ${QEL_LAYER_RANK_${L_LAYER}})

  foreach(dep IN LISTS L_DEPENDS)
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "qel_library(${name}): ${dep} is not defined yet (add lower layers first)")
    endif()
    get_target_property(dep_subsystem ${dep} QEL_SUBSYSTEM)
    get_target_property(dep_rank ${dep} QEL_LAYER_RANK)
    if(NOT dep_subsystem)
      message(FATAL_ERROR "qel_library(${name}): ${dep} is not a library made by qel_library")
    endif()
    if(NOT dep_subsystem STREQUAL L_SUBSYSTEM AND NOT dep_rank LESS rank)
      message(FATAL_ERROR "qel_library(${name}, ${L_LAYER}): ${dep} (${dep_subsystem}) is not on a lower "
                          "layer; a library may use only what lies below it")
    endif()
  endforeach()
  foreach(lib IN LISTS L_PUBLIC_LINK L_PRIVATE_LINK)
    if(TARGET ${lib})
      get_target_property(lib_subsystem ${lib} QEL_SUBSYSTEM)
      if(lib_subsystem)
        message(FATAL_ERROR "qel_library(${name}): ${lib} is a library of the recorder; name it in DEPENDS, "
                            "where its layer is checked")
      endif()
    endif()
  endforeach()

  set(root ${PROJECT_BINARY_DIR}/include/${L_SUBSYSTEM})
  if(NOT EXISTS ${root}/${L_SUBSYSTEM})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${L_SUBSYSTEM} ${root}/${L_SUBSYSTEM} SYMBOLIC)
  endif()

  add_library(${name} STATIC ${L_SOURCES})
  set_target_properties(${name} PROPERTIES QEL_SUBSYSTEM ${L_SUBSYSTEM} QEL_LAYER_RANK ${rank})
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${L_DEPENDS} ${L_PUBLIC_LINK} PRIVATE ${L_PRIVATE_LINK})
endfunction()

# Resources of the programs, built into ${ZENTREL_RES_DIR} (where
# app_get_resource_path() points in the build tree): SVG images rendered to
# PNG, edje themes, gettext catalogues and the theme tables.
find_program(EDJE_CC edje_cc REQUIRED)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(MSGFMT msgfmt REQUIRED)

set(ZENTREL_RES_DIR "${CMAKE_BINARY_DIR}/res")
# The same tree below the install prefix.
set(ZENTREL_INSTALL_RES_DIR "${CMAKE_INSTALL_DATADIR}/zentrel/res")
set(ZENTREL_IMAGE_DIR "${ZENTREL_RES_DIR}/edje/images")

# zentrel_add_images(<target> <svg>...): renders each SVG to a PNG of the
# same name under res/edje/images.
function(zentrel_add_images target)
  set(outputs "")
  foreach(svg IN LISTS ARGN)
    get_filename_component(name ${svg} NAME_WE)
    set(png ${ZENTREL_IMAGE_DIR}/${name}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENTREL_IMAGE_DIR}
      COMMAND ${RSVG_CONVERT} -o ${png} ${svg}
      DEPENDS ${svg} COMMENT "Rendering ${name}.png" VERBATIM)
    list(APPEND outputs ${png})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
  install(FILES ${outputs} DESTINATION ${ZENTREL_INSTALL_RES_DIR}/edje/images)
endfunction()

# zentrel_add_theme(<name> <edc> [NO_INSTALL] [DEPENDS <target or file>...]):
# compiles the theme to res/edje/<name>.edj with the rendered images;
# NO_INSTALL for the themes of tests and samples.
function(zentrel_add_theme name edc)
  cmake_parse_arguments(T "NO_INSTALL" "" "DEPENDS" ${ARGN})
  get_filename_component(edc_dir ${edc} DIRECTORY)
  file(GLOB edc_parts ${edc_dir}/*.edc)
  set(edj ${ZENTREL_RES_DIR}/edje/${name}.edj)
  add_custom_command(OUTPUT ${edj}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENTREL_RES_DIR}/edje
    COMMAND ${EDJE_CC} -id ${ZENTREL_IMAGE_DIR} -id ${edc_dir}/images ${edc} ${edj}
    DEPENDS ${edc} ${edc_parts} ${T_DEPENDS}
    COMMENT "Compiling theme ${name}.edj" VERBATIM)
  add_custom_target(theme-${name} ALL DEPENDS ${edj})
  if(T_DEPENDS)
    foreach(dep IN LISTS T_DEPENDS)
      if(TARGET ${dep})
        add_dependencies(theme-${name} ${dep})
      endif()
    endforeach()
  endif()
  if(NOT T_NO_INSTALL)
    install(FILES ${edj} DESTINATION ${ZENTREL_INSTALL_RES_DIR}/edje)
  endif()
endfunction()

# zentrel_add_catalogue(<target> <domain> <po>...): compiles <lang>.po to
# res/locale/<lang>/LC_MESSAGES/<domain>.mo.
function(zentrel_add_catalogue target domain)
  set(outputs "")
  foreach(po IN LISTS ARGN)
    get_filename_component(lang ${po} NAME_WE)
    set(dir ${ZENTREL_RES_DIR}/locale/${lang}/LC_MESSAGES)
    set(mo ${dir}/${domain}.mo)
    add_custom_command(OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${MSGFMT} --check -o ${mo} ${po}
      DEPENDS ${po} COMMENT "Compiling texts ${lang}" VERBATIM)
    list(APPEND outputs ${mo})
    install(FILES ${mo} DESTINATION ${ZENTREL_INSTALL_RES_DIR}/locale/${lang}/LC_MESSAGES)
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()

# zentrel_add_tables(<target> <xml>...): copies theme tables to res/table.
function(zentrel_add_tables target)
  set(outputs "")
  foreach(xml IN LISTS ARGN)
    get_filename_component(name ${xml} NAME)
    set(out ${ZENTREL_RES_DIR}/table/${name})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy ${xml} ${out}
      DEPENDS ${xml} VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
  install(FILES ${ARGN} DESTINATION ${ZENTREL_INSTALL_RES_DIR}/table)
endfunction()

# Assembles the game's working directory ${MORVELUND_DATA_DIR}.
#
# Hand-written assets under data/ are copied file by file (only when they
# change, so the package is not rebuilt needlessly). Generators under tools/
# register their targets with morvelund_register_assets(). The package target
# runs last and rebuilds data.mv2 whenever any asset is newer than it.

file(GLOB_RECURSE MORVELUND_HANDWRITTEN_ASSETS CONFIGURE_DEPENDS
  RELATIVE ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/data/*)

set(_copied_assets "")
foreach(rel ${MORVELUND_HANDWRITTEN_ASSETS})
  set(out ${MORVELUND_DATA_DIR}/${rel})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/data/${rel} ${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${rel}
    VERBATIM)
  list(APPEND _copied_assets ${out})
endforeach()
add_custom_target(handwritten_assets ALL DEPENDS ${_copied_assets})
set_property(GLOBAL APPEND PROPERTY MORVELUND_ASSET_TARGETS handwritten_assets)

# Called by each generator under tools/ for the target that writes its files.
function(morvelund_register_assets target)
  set_property(GLOBAL APPEND PROPERTY MORVELUND_ASSET_TARGETS ${target})
endfunction()

# Defined after every generator has registered itself.
function(morvelund_add_package_target)
  get_property(asset_targets GLOBAL PROPERTY MORVELUND_ASSET_TARGETS)
  add_custom_target(package ALL
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-package
            $<TARGET_FILE:morvelund> $<TARGET_FILE:packlist> ${MORVELUND_DATA_DIR}
    DEPENDS morvelund packlist ${asset_targets}
    COMMENT "Checking data.mv2"
    VERBATIM)
endfunction()

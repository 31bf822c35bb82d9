# Removes what an install put in place: every file named in its manifest (CMake's
# install_manifest.txt), then the folders of the program's own that are left empty
# (share/doc/halvic and what lies in it). Folders that others share, such as bin or
# share/applications, stay. The manifest names the files under the prefix alone, so the DESTDIR
# of the install must be given again, in the environment, as it was for the install.
#
# Usage: [DESTDIR=...] cmake -DMANIFEST=BUILD/install_manifest.txt -P cmake/Uninstall.cmake
if(NOT DEFINED MANIFEST OR NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "No install manifest at '${MANIFEST}': nothing was installed from this build")
endif()

# Folders whose name is this, and folders inside them, belong to the program alone.
set(own_folder_name halvic)

file(STRINGS "${MANIFEST}" installed)
set(own_folders "")
foreach(listed ${installed})
  set(file "$ENV{DESTDIR}${listed}")
  if(EXISTS "${file}" OR IS_SYMLINK "${file}")
    message(STATUS "Removing ${file}")
    file(REMOVE "${file}")
  else()
    message(STATUS "Already gone: ${file}")
  endif()
  get_filename_component(folder "${file}" DIRECTORY)
  while(folder MATCHES "/${own_folder_name}(/|$)")
    list(APPEND own_folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()

# Deepest first, so that a folder is empty by the time it is reached.
list(REMOVE_DUPLICATES own_folders)
list(SORT own_folders ORDER DESCENDING)
foreach(folder ${own_folders})
  file(GLOB left LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
  if(IS_DIRECTORY "${folder}" AND NOT left)
    message(STATUS "Removing folder ${folder}")
    file(REMOVE_RECURSE "${folder}")
  endif()
endforeach()

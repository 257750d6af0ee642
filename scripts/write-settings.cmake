# Writes the player's settings file for the sample course unless one exists.
# Usage: cmake -DINI=path/Vedra.ini -DCOURSE=path/sample-course -P write-settings.cmake
if(EXISTS "${INI}")
  return()
endif()
file(STRINGS "${COURSE}/lesson-groups.txt" groups ENCODING UTF-8)
set(text "[Settings]\nDataFolder=${COURSE}\n\n[LessonGroups]\n")
foreach(line IN LISTS groups)
  string(APPEND text "${line}\n")
endforeach()
file(WRITE "${INI}" "${text}")

# Turns the plain-text source of a manual page into roff (cmake -P).
#   -DINPUT=page.txt -DOUTPUT=page.1 -DTITLE=name -DVERSION=x.y.z
# The source: a line at the left margin is a section heading; a line
# indented by two spaces that starts with '-' is an option (bold, its
# description on the following lines indented further); other indented
# lines are text (in SYNOPSIS, one form a line); a blank line starts a new
# paragraph. Lines indented by
# four or more spaces after a line ending in ':' are kept as an example.
file(STRINGS "${INPUT}" lines ENCODING UTF-8)
set(out ".TH ${TITLE} 1 \"\" \"${TITLE} ${VERSION}\" \"User Commands\"\n")
set(example OFF)
foreach(line IN LISTS lines)
  # roff: a backslash and a leading dot or quote need escaping.
  string(REPLACE "\\" "\\e" line "${line}")
  string(REGEX REPLACE "^([ ]*)([.'])" "\\1\\\\&\\2" line "${line}")
  if(line STREQUAL "")
    if(example)
      string(APPEND out ".fi\n.RE\n")
      set(example OFF)
    endif()
    string(APPEND out ".PP\n")
  elseif(line MATCHES "^[^ ]")
    string(APPEND out ".SH ${line}\n")
    set(section "${line}")
  elseif(example OR line MATCHES "^    [^ -]" AND previous MATCHES ":$")
    if(NOT example)
      string(APPEND out ".RS\n.nf\n")
      set(example ON)
    endif()
    string(REGEX REPLACE "^    " "" line "${line}")
    string(APPEND out "${line}\n")
  elseif(line MATCHES "^  -")
    string(REGEX REPLACE "^  " "" line "${line}")
    string(REPLACE "-" "\\-" option "${line}")
    string(APPEND out ".TP\n.B ${option}\n")
  else()
    string(REGEX REPLACE "^ +" "" line "${line}")
    string(APPEND out "${line}\n")
    if(section STREQUAL "SYNOPSIS")
      string(APPEND out ".br\n")  # one form a line
    endif()
  endif()
  set(previous "${line}")
endforeach()
if(example)
  string(APPEND out ".fi\n.RE\n")
endif()
file(WRITE "${OUTPUT}" "${out}")

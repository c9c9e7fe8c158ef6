# Makes one sound effect from its recipe, sounds/NAME.sox: the sox effects that follow the output
# file, starting with `synth` and ending with `gain -n LEVEL` ('#' lines are comments). The synth
# runs with four input channels at 44100 Hz (so up to four voices sound at once, and pluck works);
# the channels are mixed down to mono 22050 Hz before the final `gain -n`, so LEVEL is the peak of
# the file the game plays.
#
# A recipe with a line `loop SECONDS` is a looped sound: its render is cut into a loop that many
# seconds shorter, whose start is the render's start crossfaded with the render's last SECONDS
# (equal power, as the sounds are noise-like), so the loop's last sample runs on into its first.
#
# Arguments: SOX, RECIPE, OUT, WORK (a folder for the intermediate files).
file(STRINGS ${RECIPE} lines REGEX "^[^#]")
set(crossfade "")
set(effectLines)
foreach(line ${lines})
  if(line MATCHES "^[ \t]*loop[ \t]+([0-9.]+)[ \t]*$")
    set(crossfade ${CMAKE_MATCH_1})
  else()
    list(APPEND effectLines "${line}")
  endif()
endforeach()
string(JOIN " " effects ${effectLines})
separate_arguments(effects UNIX_COMMAND "${effects}")
list(LENGTH effects count)
if(count LESS 4)
  message(FATAL_ERROR "${RECIPE}: no effects")
endif()
math(EXPR last "${count} - 1")
math(EXPR gainAt "${count} - 3")
list(SUBLIST effects ${gainAt} 3 tail)
list(GET tail 2 level)
if(NOT tail MATCHES "^gain;-n;-?[0-9.]+$")
  message(FATAL_ERROR "${RECIPE}: must end with 'gain -n LEVEL' (the peak level in dB)")
endif()
list(SUBLIST effects 0 ${gainAt} effects)

function(sox)
  execute_process(COMMAND ${SOX} -R ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${RECIPE}: sox ${ARGN} failed: ${errors}")
  endif()
endfunction()

set(synth -c 4 -r 44100 -n)
set(mixdown channels 1 rate 22050)
if(crossfade STREQUAL "")
  sox(${synth} -r 22050 -b 16 -c 1 ${OUT} ${effects} ${mixdown} gain -n ${level})
  return()
endif()

get_filename_component(stem ${RECIPE} NAME_WE)
set(base ${WORK}/${stem})
set(float -e floating-point -b 32)
# The render is levelled with room to spare, so the crossfade cannot clip.
sox(${synth} ${float} -r 22050 -c 1 ${base}.render.wav ${effects} ${mixdown} gain -n -6)
sox(${base}.render.wav ${base}.head.wav trim 0 ${crossfade} fade q ${crossfade})
sox(${base}.render.wav ${base}.tail.wav trim -${crossfade} fade q 0 ${crossfade} ${crossfade})
sox(${base}.render.wav ${base}.body.wav trim ${crossfade} -${crossfade})
sox(-m -v 1 ${base}.tail.wav -v 1 ${base}.head.wav ${base}.seam.wav)
sox(${base}.seam.wav ${base}.body.wav -b 16 ${OUT} gain -n ${level})

# Runs each generator of ours twice on the same source and fails when the outputs differ: the data
# set must come out byte for byte the same from every build.
# Arguments: FONTGEN, MUSICGEN, IMAGETOOL, SOX, ASSETS, FONT_DIR, RENDERED (a picture rendered by the
# build), OUT.
file(MAKE_DIRECTORY ${OUT})
foreach(round 1 2)
  execute_process(COMMAND ${FONTGEN} ${ASSETS}/fonts/small.font ${FONT_DIR} ${OUT}/font${round}.png ${OUT}/mask${round}.png
                  RESULT_VARIABLE r1)
  execute_process(COMMAND ${MUSICGEN} ${ASSETS}/music/title.score ${OUT}/music${round}.wav RESULT_VARIABLE r2)
  execute_process(COMMAND ${IMAGETOOL} jpeg ${RENDERED} ${OUT}/picture${round}.jpg 90 1B1410 RESULT_VARIABLE r3)
  # A looped sound goes through every step of the sound rule.
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOX=${SOX} -DRECIPE=${ASSETS}/sounds/mine_ambience.sox
                          -DOUT=${OUT}/sound${round}.wav -DWORK=${OUT} -P ${ASSETS}/sound.cmake RESULT_VARIABLE r4)
  if(NOT r1 EQUAL 0 OR NOT r2 EQUAL 0 OR NOT r3 EQUAL 0 OR NOT r4 EQUAL 0)
    message(FATAL_ERROR "a generator failed: ${r1} ${r2} ${r3} ${r4}")
  endif()
endforeach()
foreach(pair font mask music picture sound)
  file(GLOB outputs ${OUT}/${pair}1.* ${OUT}/${pair}2.*)
  list(GET outputs 0 first)
  list(GET outputs 1 second)
  file(SHA256 ${first} a)
  file(SHA256 ${second} b)
  if(NOT a STREQUAL b)
    message(FATAL_ERROR "${first} and ${second} differ: the generator is not deterministic")
  endif()
endforeach()

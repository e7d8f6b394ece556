# The command line end to end: a body built with the library goes through
# every format and back, and bad input gives an error, not a crash.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run expect_ok)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_ok AND NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}${err}")
  endif()
  if(NOT expect_ok AND rc EQUAL 0)
    message(FATAL_ERROR "should have failed: ${ARGN}")
  endif()
  if(NOT expect_ok AND NOT rc EQUAL 1)
    message(FATAL_ERROR "expected a clean error (1), got ${rc}: ${ARGN}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
  set(last_error "${err}" PARENT_SCOPE)
endfunction()

function(expect_info file facets closed)
  run(TRUE ${CLI} info ${file})
  if(NOT last_output MATCHES "facets ${facets}\n" OR NOT last_output MATCHES "closed ${closed}")
    message(FATAL_ERROR "info of ${file}:\n${last_output}")
  endif()
endfunction()

run(TRUE ${SAMPLE} ${WORK}/body.g3s)
expect_info(${WORK}/body.g3s 11 yes)
foreach(ext obj off)
  run(TRUE ${CLI} convert ${WORK}/body.g3s ${WORK}/body.${ext})
  run(TRUE ${CLI} convert ${WORK}/body.${ext} ${WORK}/back-${ext}.g3s)
  expect_info(${WORK}/back-${ext}.g3s 11 yes)
endforeach()
# STL holds triangles: 5 quads and 5 pocket faces give 2 each, the holed
# top 8: 28 triangles, still closed after the corners are merged.
run(TRUE ${CLI} convert ${WORK}/body.g3s ${WORK}/body.stl)
expect_info(${WORK}/body.stl 28 yes)
run(TRUE ${CLI} convert ${WORK}/body.g3s ${WORK}/body.wrl)
file(READ ${WORK}/body.wrl vrml)
if(NOT vrml MATCHES "^#VRML V2.0 utf8")
  message(FATAL_ERROR "no VRML header")
endif()

# Simplification finds the adapter on the default search path here (when
# the adapters are built).
if(ADAPTERS)
  run(TRUE ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${ADAPTERS} ${CLI} simplify ${WORK}/body.stl ${WORK}/small.off --ratio 0.5)
  run(TRUE ${CLI} info ${WORK}/small.off)
  if(NOT last_output MATCHES "facets 1[0-4]\n")
    message(FATAL_ERROR "simplified to an unexpected size:\n${last_output}")
  endif()
endif()

# Repair of a real-world-like soup: 99 372 unwelded triangles of the unit
# cube (corners jittered below the tolerance), 5 of them inside out.
run(TRUE ${SOUP} ${WORK}/soup.stl 91 5)
run(TRUE ${CLI} repair ${WORK}/soup.stl ${WORK}/fixed.off)
if(NOT last_output MATCHES "vertices [0-9]+ -> 49688\n" OR NOT last_output MATCHES "edges [0-9]+ -> 149058\n"
   OR NOT last_output MATCHES "facets 99372 -> 99372 \\(5 turned over\\)" OR NOT last_output MATCHES "closed yes"
   OR NOT last_output MATCHES "volume 0\\.99999|volume 1\\.00000")
  message(FATAL_ERROR "repair of the soup:\n${last_output}")
endif()
expect_info(${WORK}/fixed.off 99372 yes)
run(FALSE ${CLI} repair ${WORK}/missing.stl ${WORK}/x.off)
run(FALSE ${CLI} repair ${WORK}/body.g3s ${WORK}/x.off --level 7)
run(TRUE ${CLI} repair ${WORK}/body.g3s ${WORK}/level2.g3s --level 1002)
if(NOT last_output MATCHES "closed yes" OR NOT last_output MATCHES "volume 9(19\\.99|20)")
  message(FATAL_ERROR "repair of the sample body at level 1002:\n${last_output}")
endif()

# Triangulation: the sample's 10 quads give 2 triangles each, its holed top
# 8; by default the new diagonals are hidden edges. Only the holed top is
# not convex. A bow tie cannot be split and is kept, and said so.
run(TRUE ${CLI} triangulate ${WORK}/body.g3s ${WORK}/triangles.off)
if(NOT last_output MATCHES "facets 11 -> 28 \\(11 split\\)")
  message(FATAL_ERROR "triangulate of the sample body:\n${last_output}")
endif()
expect_info(${WORK}/triangles.off 28 yes)
run(TRUE ${CLI} triangulate ${WORK}/body.g3s ${WORK}/concave.g3s --concave --visible-diagonals)
if(NOT last_output MATCHES "facets 11 -> 18 \\(1 split\\)")
  message(FATAL_ERROR "triangulate --concave of the sample body:\n${last_output}")
endif()
file(WRITE ${WORK}/bowtie.off "OFF\n4 1 0\n0 0 0\n2 2 0\n2 0 0\n0 2 0\n4 0 1 2 3\n")
run(TRUE ${CLI} triangulate ${WORK}/bowtie.off ${WORK}/bowtie-out.off)
if(NOT last_output MATCHES "facets 1 -> 1 \\(0 split\\)" OR NOT last_output MATCHES "kept 1 facets")
  message(FATAL_ERROR "triangulate of a bow tie:\n${last_output}")
endif()
run(FALSE ${CLI} triangulate ${WORK}/body.g3s ${WORK}/x.off --everything)
run(FALSE ${CLI} triangulate ${WORK}/missing.off ${WORK}/x.off)

# Simple solids: a box of size 2 is [-2, 2]^2 x [0, 4], volume 64; the
# default sphere has 32 meridians and 17 rows (16 bands), and its volume
# lies just under the ball's 4.18879.
run(TRUE ${CLI} box ${WORK}/box.off --size 2)
if(NOT last_output MATCHES "facets 6\nclosed yes\nvolume (64|63\\.99999)")
  message(FATAL_ERROR "box:\n${last_output}")
endif()
expect_info(${WORK}/box.off 6 yes)
run(TRUE ${CLI} sphere ${WORK}/sphere.g3s)
if(NOT last_output MATCHES "facets 512\nclosed yes\nvolume 4\\.1[0-7]")
  message(FATAL_ERROR "sphere:\n${last_output}")
endif()
expect_info(${WORK}/sphere.g3s 512 yes)
# 7 meridians, 4 rows: 21 facets, of which the 7 quads go to STL as 2
# triangles each.
run(TRUE ${CLI} sphere ${WORK}/small.stl --segments 7 --radius 0.5)
expect_info(${WORK}/small.stl 28 yes)
run(FALSE ${CLI} box ${WORK}/x.off --size -1)
run(FALSE ${CLI} box ${WORK}/x.off --size 1e-7)
run(FALSE ${CLI} box ${WORK}/x.off --size abc)
run(FALSE ${CLI} box ${WORK}/x.off --size)
run(FALSE ${CLI} sphere ${WORK}/x.off --radius nan)
run(FALSE ${CLI} sphere ${WORK}/x.off --radius 0)
run(FALSE ${CLI} sphere ${WORK}/x.off --segments 3)
run(FALSE ${CLI} sphere ${WORK}/x.off --segments 2.5)

# Booleans of the box [-2, 2]^2 x [0, 4] (volume 64) and the unit box
# [-1, 1]^2 x [0, 2] (volume 8, inside it, touching its bottom): the
# difference has volume 56, the union is the big box, the intersection the
# small one. An open operand is refused with the repair command named.
run(TRUE ${CLI} box ${WORK}/unit.off)
run(TRUE ${CLI} boolean difference ${WORK}/box.off ${WORK}/unit.off ${WORK}/hollow.g3s)
if(NOT last_output MATCHES "closed yes" OR NOT last_output MATCHES "volume 5[56]\\.9999|volume 56")
  message(FATAL_ERROR "boolean difference:\n${last_output}")
endif()
expect_info(${WORK}/hollow.g3s "[0-9]+" yes)
run(TRUE ${CLI} boolean intersection ${WORK}/box.off ${WORK}/unit.off ${WORK}/common.off)
if(NOT last_output MATCHES "volume 7\\.9999|volume 8")
  message(FATAL_ERROR "boolean intersection:\n${last_output}")
endif()
run(FALSE ${CLI} boolean union ${WORK}/box.off ${WORK}/bowtie.off ${WORK}/x.off)
if(NOT last_error MATCHES "tessaly repair")
  message(FATAL_ERROR "an open operand should name the repair command:\n${last_error}")
endif()
run(FALSE ${CLI} boolean xor ${WORK}/box.off ${WORK}/unit.off ${WORK}/x.off)
run(FALSE ${CLI} boolean union ${WORK}/missing.off ${WORK}/unit.off ${WORK}/x.off)

# Slicing the unit box [-1, 1]^2 x [0, 2] at z = 0.5: 2 below, 6 above;
# its section there is a square outline of 4 segments; a plane that misses
# writes nothing. Separating the union of two apart boxes gives two files.
run(TRUE ${CLI} slice ${WORK}/unit.off --plane 0 0 1 -0.5 ${WORK}/below.off ${WORK}/above.g3s)
if(NOT last_output MATCHES "front facets 6, closed yes, volume (2|1\\.9999)" OR NOT last_output MATCHES "back facets 6, closed yes, volume (6|5\\.9999)")
  message(FATAL_ERROR "slice:\n${last_output}")
endif()
expect_info(${WORK}/above.g3s 6 yes)
run(FALSE ${CLI} slice ${WORK}/unit.off --plane 0 0 1 -9 ${WORK}/x.off ${WORK}/y.off)
run(FALSE ${CLI} slice ${WORK}/unit.off --plane 0 0 0 1 ${WORK}/x.off ${WORK}/y.off)
run(FALSE ${CLI} slice ${WORK}/unit.off --plane 0 0 1 ${WORK}/x.off ${WORK}/y.off)
run(TRUE ${CLI} section ${WORK}/unit.off --plane 0 0 1 -0.5 ${WORK}/outline.obj)
if(NOT last_output MATCHES "segments 4")
  message(FATAL_ERROR "section:\n${last_output}")
endif()
file(READ ${WORK}/outline.obj outline)
if(NOT outline MATCHES "\nl 7 8\n")
  message(FATAL_ERROR "section outline:\n${outline}")
endif()
run(FALSE ${CLI} section ${WORK}/unit.off --plane 0 0 1 -9 ${WORK}/x.obj)
file(WRITE ${WORK}/two.off "OFF\n16 12 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n3 0 0\n4 0 0\n4 1 0\n3 1 0\n3 0 1\n4 0 1\n4 1 1\n3 1 1\n4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 1 2 6 5\n4 2 3 7 6\n4 3 0 4 7\n4 8 11 10 9\n4 12 13 14 15\n4 8 9 13 12\n4 9 10 14 13\n4 10 11 15 14\n4 11 8 12 15\n")
file(MAKE_DIRECTORY ${WORK}/lumps)
run(TRUE ${CLI} separate ${WORK}/two.off ${WORK}/lumps)
if(NOT last_output MATCHES "lumps 2")
  message(FATAL_ERROR "separate:\n${last_output}")
endif()
expect_info(${WORK}/lumps/lump-2.off 6 yes)
run(FALSE ${CLI} separate ${WORK}/missing.off ${WORK}/lumps)

# A sheet at z = 0.5 across the unit box cuts it into two closed parts of
# volume 2 and 6; a sheet that misses is an error. Offsetting the unit box
# by 0.5 gives the box [-1.5, 1.5]^2 x [-0.5, 2.5], volume 27.
file(WRITE ${WORK}/sheet.off "OFF\n4 2 0\n-3 -3 0.5\n3 -3 0.5\n3 3 0.5\n-3 3 0.5\n3 0 1 2\n3 0 2 3\n")
run(TRUE ${CLI} cut ${WORK}/unit.off ${WORK}/sheet.off ${WORK}/part1.off ${WORK}/part2.g3s)
if(NOT last_output MATCHES "part1 facets [0-9]+, closed yes, volume (2|1\\.9999)" OR NOT last_output MATCHES "part2 facets [0-9]+, closed yes, volume (6|5\\.9999)")
  message(FATAL_ERROR "cut:\n${last_output}")
endif()
file(WRITE ${WORK}/far.off "OFF\n4 2 0\n-3 -3 9\n3 -3 9\n3 3 9\n-3 3 9\n3 0 1 2\n3 0 2 3\n")
run(FALSE ${CLI} cut ${WORK}/unit.off ${WORK}/far.off ${WORK}/x.off ${WORK}/y.off)
run(TRUE ${CLI} offset ${WORK}/unit.off ${WORK}/fat.off --distance 0.5)
if(NOT last_output MATCHES "offset facets 6, closed yes, volume (27|26\\.9999)")
  message(FATAL_ERROR "offset:\n${last_output}")
endif()
run(FALSE ${CLI} offset ${WORK}/unit.off ${WORK}/x.off --distance abc)

# A chamfer of 0.5 along one bottom edge of the unit box takes 2 x 0.125; a
# rounded corner stays closed; a point that is no edge's end is an error.
run(TRUE ${CLI} blend ${WORK}/unit.off ${WORK}/chamfer.off --edge -1 -1 0 1 -1 0 --radius 0.5 --segments 1)
if(NOT last_output MATCHES "blend facets [0-9]+, closed yes, volume (7\\.75|7\\.7499)")
  message(FATAL_ERROR "blend edge:\n${last_output}")
endif()
run(TRUE ${CLI} blend ${WORK}/unit.off ${WORK}/corner.off --corner -1 -1 0 --radius 0.5)
if(NOT last_output MATCHES "blend facets [0-9]+, closed yes, volume 7\\.9")
  message(FATAL_ERROR "blend corner:\n${last_output}")
endif()
run(FALSE ${CLI} blend ${WORK}/unit.off ${WORK}/x.off --edge -1 -1 0 1 1 0 --radius 0.5)
run(FALSE ${CLI} blend ${WORK}/unit.off ${WORK}/x.off --edge -1 -1 0 1 -1 0 --radius -1)
run(FALSE ${CLI} blend ${WORK}/unit.off ${WORK}/x.off --corner 0 0 0 --edge -1 -1 0 1 -1 0 --radius 1)

# Picking: a ray down the middle of the unit box meets its top first, then
# its bottom; a point classifies inside, outside or on.
run(TRUE ${CLI} pick ${WORK}/unit.off 0.5 0.25 5 0.5 0.25 -5)
if(NOT last_output MATCHES "hit facet\ndistance 3\n" OR NOT last_output MATCHES "facet hits 2")
  message(FATAL_ERROR "pick:\n${last_output}")
endif()
run(FALSE ${CLI} pick ${WORK}/unit.off 0 0 x 0 0 -5)
run(TRUE ${CLI} classify ${WORK}/unit.off 0.5 0.5 1)
if(NOT last_output MATCHES "^inside")
  message(FATAL_ERROR "classify inside:\n${last_output}")
endif()
run(TRUE ${CLI} classify ${WORK}/unit.off 3 0 1)
if(NOT last_output MATCHES "^outside")
  message(FATAL_ERROR "classify outside:\n${last_output}")
endif()
run(FALSE ${CLI} sphere ${WORK}/x.off --radius 1 --radius 2)
run(FALSE ${CLI} sphere ${WORK}/x.unknown)

file(WRITE ${WORK}/bad.off "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 9\n")
run(FALSE ${CLI} info ${WORK}/bad.off)
file(WRITE ${WORK}/huge.off "OFF\n9223372036854775807 9223372036854775807 0\n")
run(FALSE ${CLI} info ${WORK}/huge.off)
file(WRITE ${WORK}/short.stl "not an stl")
run(FALSE ${CLI} info ${WORK}/short.stl)
file(WRITE ${WORK}/bad.g3s "3 3 1 1 0\nnan 0 0\n")
run(FALSE ${CLI} info ${WORK}/bad.g3s)
run(FALSE ${CLI} info ${WORK}/missing.obj)
run(FALSE ${CLI} convert ${WORK}/body.g3s ${WORK}/body.unknown)
run(FALSE ${CLI} simplify ${WORK}/body.g3s ${WORK}/s.g3s --ratio 2)

# Planar contours (clip): a square and a triangle clipped to a rectangle
# that cuts the square and misses the triangle; the cut sides are listed as
# hidden pieces. Segments clipped against a square give their inner pieces.
# A malformed line is an error naming its number; wrong arguments are a
# usage error (2).
file(WRITE ${WORK}/contours.txt "# a square and a triangle\n0 0  4 0  4 4  0 4\n\n5 5\t7 5  6 6.5\n")
run(TRUE ${CLI} clip ${WORK}/contours.txt ${WORK}/clipped.txt --rect 3 2 1 -1)
file(READ ${WORK}/clipped.txt clipped)
if(NOT last_output MATCHES "contours 2 -> 1\n" OR NOT clipped STREQUAL "# hidden: 1 2 3\n1 0  3 0  3 2  1 2\n")
  message(FATAL_ERROR "clip --rect:\n${last_output}\n${clipped}")
endif()
file(WRITE ${WORK}/clip-polygon.txt "0 0 2 0 2 2 0 2\n")
file(WRITE ${WORK}/lines.txt "-1 1  3 1\n1 -1  1 3\n")
run(TRUE ${CLI} clip ${WORK}/lines.txt ${WORK}/pieces.txt --polygon ${WORK}/clip-polygon.txt)
file(READ ${WORK}/pieces.txt pieces)
if(NOT last_output MATCHES "segments 2, pieces 2\n" OR NOT pieces STREQUAL "0 1 2 1\n1 0 1 2\n")
  message(FATAL_ERROR "clip --polygon:\n${last_output}\n${pieces}")
endif()
file(WRITE ${WORK}/bad-contours.txt "0 0 1 1\n0 0 1 x\n")
run(FALSE ${CLI} clip ${WORK}/bad-contours.txt ${WORK}/x.txt --rect 0 0 1 1)
if(NOT last_error MATCHES "bad-contours.txt: line 2: ")
  message(FATAL_ERROR "clip of a malformed file:\n${last_error}")
endif()
run(FALSE ${CLI} clip ${WORK}/contours.txt ${WORK}/x.txt --polygon ${WORK}/bad-contours.txt)
run(FALSE ${CLI} clip ${WORK}/contours.txt ${WORK}/x.txt --rect 0 0 1 y)
execute_process(COMMAND ${CLI} clip ${WORK}/contours.txt ${WORK}/x.txt --rect 0 0 1 RESULT_VARIABLE rc
                OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 2)
  message(FATAL_ERROR "clip with three numbers: expected a usage error (2), got ${rc}")
endif()

# Path union and division: two overlapping squares are one contour of area
# 7; a frame of four bars is an outer contour and a hole (area 100 - 64),
# without the hole with outer; a pentagram divides into its five points (the
# inner pentagon is covered twice: even, empty, and no contour of its own).
# A malformed file is an error.
file(WRITE ${WORK}/squares.txt "0 0  2 0  2 2  0 2\n1 1  3 1  3 3  1 3\n")
run(TRUE ${CLI} contours union ${WORK}/squares.txt ${WORK}/union.txt)
if(NOT last_output MATCHES "contours 1\nholes 0\narea 7\n")
  message(FATAL_ERROR "contours union:\n${last_output}")
endif()
file(WRITE ${WORK}/frame.txt "0 0 10 0 10 1 0 1\n0 9 10 9 10 10 0 10\n0 0 1 0 1 10 0 10\n9 0 10 0 10 10 9 10\n")
run(TRUE ${CLI} contours union ${WORK}/frame.txt ${WORK}/frame-union.txt)
if(NOT last_output MATCHES "contours 2\nholes 1\narea 36\n")
  message(FATAL_ERROR "contours union of a frame:\n${last_output}")
endif()
run(TRUE ${CLI} contours outer ${WORK}/frame.txt ${WORK}/frame-outer.txt)
if(NOT last_output MATCHES "contours 1\nholes 0\narea 100\n")
  message(FATAL_ERROR "contours outer of a frame:\n${last_output}")
endif()
file(WRITE ${WORK}/pentagram.txt "0 10  5.878 -8.09  -9.511 3.09  9.511 3.09  -5.878 -8.09\n")
run(TRUE ${CLI} contours divide ${WORK}/pentagram.txt ${WORK}/pentagram-divided.txt)
if(NOT last_output MATCHES "contours 5\nholes 0\n")
  message(FATAL_ERROR "contours divide:\n${last_output}")
endif()
run(FALSE ${CLI} contours union ${WORK}/bad-contours.txt ${WORK}/x.txt)
run(FALSE ${CLI} contours union ${WORK}/missing.txt ${WORK}/x.txt)

# openings: a window through the box [-2, 2]^2 x [0, 4] along x (2 x 2 over
# the 4 of the box: 16 of its 64 go) and, from a second outline file, a low
# opening along y with a direction that is not of unit length (2 x 0.5 x 4).
# A line that reaches over the face's border is skipped. A malformed outline
# file, a missing one and a zero direction are errors; flags that do not
# pair up are a usage error (2).
run(TRUE ${CLI} box ${WORK}/wall.off --size 2)
file(WRITE ${WORK}/window.txt "# a window, and one over the border\n-2 -1 1  -2 1 1  -2 1 3  -2 -1 3\n-2 1.5 1\t-2 2.5 1  -2 2.5 2  -2 1.5 2  -2 1.5 1\n")
run(TRUE ${CLI} openings ${WORK}/wall.off ${WORK}/window.g3s --outline ${WORK}/window.txt --direction 1 0 0)
if(NOT last_output MATCHES "cut 1 of 2 openings\nfacets 10, closed yes, volume (48|47\\.9999)")
  message(FATAL_ERROR "openings:\n${last_output}")
endif()
expect_info(${WORK}/window.g3s 10 yes)
file(WRITE ${WORK}/low.txt "-1 -2 0.25  1 -2 0.25  1 -2 0.75  -1 -2 0.75\n")
run(TRUE ${CLI} openings ${WORK}/wall.off ${WORK}/two-openings.off --outline ${WORK}/window.txt --direction 1 0 0
    --outline ${WORK}/low.txt --direction 0 3 0)
if(NOT last_output MATCHES "cut 2 of 3 openings\nfacets 14, closed yes, volume (44|43\\.9999)")
  message(FATAL_ERROR "openings with two outline files:\n${last_output}")
endif()
file(WRITE ${WORK}/bad-window.txt "-2 -1 1  -2 1 1  -2 1 3\n-2 -1 1  -2 1 1  -2 1\n")
run(FALSE ${CLI} openings ${WORK}/wall.off ${WORK}/x.off --outline ${WORK}/bad-window.txt --direction 1 0 0)
if(NOT last_error MATCHES "bad-window.txt: line 2: ")
  message(FATAL_ERROR "openings with a malformed outline file:\n${last_error}")
endif()
run(FALSE ${CLI} openings ${WORK}/wall.off ${WORK}/x.off --outline ${WORK}/missing.txt --direction 1 0 0)
run(FALSE ${CLI} openings ${WORK}/wall.off ${WORK}/x.off --outline ${WORK}/window.txt --direction 0 0 0)
if(NOT last_error MATCHES "direction is zero")
  message(FATAL_ERROR "openings with a zero direction:\n${last_error}")
endif()
run(FALSE ${CLI} openings ${WORK}/wall.off ${WORK}/x.off --outline ${WORK}/window.txt --direction 1 0 y)
run(FALSE ${CLI} openings ${WORK}/missing.off ${WORK}/x.off --outline ${WORK}/window.txt --direction 1 0 0)
foreach(args "--outline;${WORK}/window.txt;--direction;1;0" "--outline;${WORK}/window.txt" "--direction;1;0;0" "")
  execute_process(COMMAND ${CLI} openings ${WORK}/wall.off ${WORK}/x.off ${args} RESULT_VARIABLE rc
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 2)
    message(FATAL_ERROR "openings ${args}: expected a usage error (2), got ${rc}")
  endif()
endforeach()

# info on damaged bodies: a tetrahedron with one face repeated is not closed
# (three facet sides on its edges); a right triangle with legs of 1e80 has
# the area 5e159 (no overflow to 0).
file(WRITE ${WORK}/repeated-face.obj "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 3 2\nf 1 2 4\nf 2 3 4\nf 3 1 4\nf 2 3 4\n")
run(TRUE ${CLI} info ${WORK}/repeated-face.obj)
if(NOT last_output MATCHES "closed no \\(0 open edges, [0-9]+ edges with more than two facets\\)")
  message(FATAL_ERROR "info of a tetrahedron with a repeated face:\n${last_output}")
endif()
file(WRITE ${WORK}/huge-triangle.obj "v 0 0 0\nv 1e80 0 0\nv 0 1e80 0\nf 1 2 3\n")
run(TRUE ${CLI} info ${WORK}/huge-triangle.obj)
if(NOT last_output MATCHES "area 5(\\.0+[0-9]*)?e\\+159")
  message(FATAL_ERROR "info of a huge triangle:\n${last_output}")
endif()
# A directory named like a dump is an error, not an abort.
file(MAKE_DIRECTORY ${WORK}/folder.g3s)
run(FALSE ${CLI} info ${WORK}/folder.g3s)
if(NOT last_error MATCHES "folder.g3s is not a regular file")
  message(FATAL_ERROR "info of a directory:\n${last_error}")
endif()

# Roofs: the hipped roof of the 10 x 4 rectangle at 45 degrees has four
# faces and its ridge 2 high; with a thickness of 0.2 four lower faces and
# four eave bands join them; making the short edges walls (90 degrees) from
# a slope file gives a gable roof (two faces; bands along the four gable
# edges). A slope of 0, a malformed number, a slope file of the wrong length
# and an outline crossing itself are errors; flags that do not fit are usage
# errors (2).
file(WRITE ${WORK}/rectangle.txt "# the outline\n0 0  10 0  10 4  0 4\n")
run(TRUE ${CLI} roof ${WORK}/rectangle.txt ${WORK}/hipped.obj --slope 45)
if(NOT last_output MATCHES "^facets 4\nupper 4\nlower 0\neave 0\ngable 0\ntop [28] 2 2\n")
  message(FATAL_ERROR "roof:\n${last_output}")
endif()
expect_info(${WORK}/hipped.obj 4 no)
run(TRUE ${CLI} roof ${WORK}/rectangle.txt ${WORK}/thick.off --slope 45 --thickness 0.2 --overhang 0.5)
if(NOT last_output MATCHES "^facets 12\nupper 4\nlower 4\neave 4\ngable 0\ntop [28] 2 2\\.2\n")
  message(FATAL_ERROR "roof with thickness and overhang:\n${last_output}")
endif()
file(WRITE ${WORK}/gable-slopes.txt "40 90\n40\t90\n")
run(TRUE ${CLI} roof ${WORK}/rectangle.txt ${WORK}/gable.g3s --slopes ${WORK}/gable-slopes.txt --thickness 0.1)
if(NOT last_output MATCHES "^facets 10\nupper 2\nlower 2\neave 2\ngable 4\n")
  message(FATAL_ERROR "gable roof:\n${last_output}")
endif()
run(FALSE ${CLI} roof ${WORK}/rectangle.txt ${WORK}/x.obj --slope 0)
if(NOT last_error MATCHES "slope must lie above 0")
  message(FATAL_ERROR "roof with a slope of 0:\n${last_error}")
endif()
run(FALSE ${CLI} roof ${WORK}/rectangle.txt ${WORK}/x.obj --slope 4x)
file(WRITE ${WORK}/short-slopes.txt "30 30 30\n")
run(FALSE ${CLI} roof ${WORK}/rectangle.txt ${WORK}/x.obj --slopes ${WORK}/short-slopes.txt)
file(WRITE ${WORK}/bow-tie.txt "0 0  4 4  4 0  0 4\n")
run(FALSE ${CLI} roof ${WORK}/bow-tie.txt ${WORK}/x.obj)
if(NOT last_error MATCHES "crosses or touches itself")
  message(FATAL_ERROR "roof over a bow tie:\n${last_error}")
endif()
run(FALSE ${CLI} roof ${WORK}/bad-contours.txt ${WORK}/x.obj)
foreach(args "--slope" "--slope;30;--slopes;${WORK}/gable-slopes.txt" "--slope;30;--slope;40" "--height;3")
  execute_process(COMMAND ${CLI} roof ${WORK}/rectangle.txt ${WORK}/x.obj ${args} RESULT_VARIABLE rc
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 2)
    message(FATAL_ERROR "roof ${args}: expected a usage error (2), got ${rc}")
  endif()
endforeach()

# Writes the page's loader (platform/web/page/loader.js) with the files it
# loads and their sizes, so that its progress bar knows the whole from the
# start (a server that compresses says only the compressed sizes, and a
# browser asks for only six files at once).
#   cmake -DIN=loader.js -DOUT=page/loader.js -DPAGE_DIR=page -DFILES=orrery.wasm,Sun.webp,... -P web_loader.cmake
set(ORRERY_FILE_SIZES)
string(REPLACE "," ";" FILES "${FILES}")
foreach(name ${FILES})
  file(SIZE ${PAGE_DIR}/${name} size)
  list(APPEND ORRERY_FILE_SIZES "'${name}': ${size}")
endforeach()
list(JOIN ORRERY_FILE_SIZES ", " ORRERY_FILE_SIZES)
configure_file(${IN} ${OUT} @ONLY)

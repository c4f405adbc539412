# Writes the page's service worker into PAGE_DIR: TEMPLATE with the page's
# version (VERSION, the program's, and a hash of every file of the folder)
# and the list of those files. Run after everything else has written into
# the folder:
#   cmake -DPAGE_DIR=... -DTEMPLATE=... -DVERSION=... -P service_worker.cmake
file(GLOB_RECURSE names RELATIVE ${PAGE_DIR} ${PAGE_DIR}/*)
list(REMOVE_ITEM names service_worker.js)
list(SORT names)
set(listing "")
set(PAGE_FILES "")
foreach(name ${names})
  file(SHA256 ${PAGE_DIR}/${name} sha256)
  string(APPEND listing "${name} ${sha256}\n")
  string(APPEND PAGE_FILES "  '${name}',\n")
endforeach()
string(SHA256 digest "${listing}")
string(SUBSTRING ${digest} 0 16 digest)
set(PAGE_VERSION "${VERSION}-${digest}")
configure_file(${TEMPLATE} ${PAGE_DIR}/service_worker.js @ONLY)

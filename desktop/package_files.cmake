# SPDX-License-Identifier: MIT
# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged package tree: files that only the
# Debian package carries, not an install under another prefix.
file(GLOB_RECURSE staged_program "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/libexec/orrery/orrery")
list(GET staged_program 0 program)
get_filename_component(usr "${program}/../../.." ABSOLUTE)

# The lintian override for the metainfo's missing homepage, only where this release's
# AppStream (1.0 and later, Debian 13) reports it: Debian 12's lintian does not know the tag
# it overrides and calls an override of an unknown tag an error.
execute_process(COMMAND appstreamcli validate --no-net
  "${usr}/share/metainfo/org.orrery.Orrery.metainfo.xml"
  OUTPUT_VARIABLE validation ERROR_QUIET)
if(validation MATCHES "url-homepage-missing")
  file(MAKE_DIRECTORY "${usr}/share/lintian/overrides")
  file(COPY_FILE "${CPACK_ORRERY_SOURCE_DIR}/desktop/lintian-overrides"
    "${usr}/share/lintian/overrides/orrery")
  # A checkout may have made the source group-writable (git archive does).
  file(CHMOD "${usr}/share/lintian/overrides/orrery"
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()

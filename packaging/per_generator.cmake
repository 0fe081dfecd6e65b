# Read by cpack for each generator: the .deb is made of the Debian component alone, in one
# package; the archives take what a plain install does.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL debian)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
endif()

# The Debian package made from this build tree, installed with dpkg -i, the installed game run
# from another folder and the package purged again, leaving no file behind. Needs root, dpkg
# and dpkg-shlibdeps; skipped (exit status 77) with the reason where any is missing.
if(NOT ORBITA_SANITIZE)
  add_test(NAME package_install_remove
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/package/InstallTest.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(package_install_remove PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
    RESOURCE_LOCK orbita_package)
endif()

# Copies the data folder (languages, skins, help) into dist/ when there is one.
if(EXISTS "${SRC}")
  file(COPY "${SRC}/" DESTINATION "${DST}")
endif()

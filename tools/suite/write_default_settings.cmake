# Writes the suite's default settings files that do not exist yet; an existing file is never touched.
# Called with -DSUITE_DIR=... -DGAME_DIR=...
file(MAKE_DIRECTORY ${SUITE_DIR} ${GAME_DIR})

if(NOT EXISTS ${SUITE_DIR}/options.ini)
  file(WRITE ${SUITE_DIR}/options.ini.new
    "[setup]\nmusic=Y\nSFX=Y\nplayerid=0\n\n[Player1]\nname=Player\naddress=\nemail=\nsend=Y\n")
  file(RENAME ${SUITE_DIR}/options.ini.new ${SUITE_DIR}/options.ini)
endif()

if(NOT EXISTS ${GAME_DIR}/setup.ini)
  file(WRITE ${GAME_DIR}/setup.ini.new "[setup]\nfullscreen=0\nnowindow=0\n")
  file(RENAME ${GAME_DIR}/setup.ini.new ${GAME_DIR}/setup.ini)
endif()

# Redraws the tray artwork with the generator and fails when it differs
# from the committed files the program embeds.
#   cmake -DGEN=make_tray_art -DFONT=LiberationSans-Bold.ttf -DOUT=dir -DREF=resources/tray -P ...
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND "${GEN}" "${FONT}" "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the generator failed (${rc})")
endif()
foreach(f glyph_atlas.pgm main_icon.pam mail_icon.pam phone_icon.pam main_icon_128.pam
          mail_icon_128.pam phone_icon_128.pam list_glyphs.ppm advisory_images.pam
          list_glyphs_2x.ppm advisory_images_2x.pam provider_logo.pam provider_logo_2x.pam
          about_picture.pam about_picture_2x.pam)
  file(SHA256 "${OUT}/${f}" drawn)
  file(SHA256 "${REF}/${f}" kept)
  if(NOT drawn STREQUAL kept)
    message(FATAL_ERROR "${f} drawn now differs from resources/tray/${f}")
  endif()
endforeach()

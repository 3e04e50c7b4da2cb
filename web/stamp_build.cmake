# Writes the page's service worker with a build id made from the files it keeps, so a new build
# is a new cache and an unchanged one is not. Run with -DWEB_DIR=... -DSOURCE=sw.js.in.
set(parts "")
foreach(name index.html page.js manifest.webmanifest vexmo.js vexmo.wasm vexmo.data)
  file(MD5 "${WEB_DIR}/${name}" sum)
  string(APPEND parts "${sum}")
endforeach()
string(MD5 id "${parts}")
string(SUBSTRING "${id}" 0 12 VEXMO_BUILD)
configure_file("${SOURCE}" "${WEB_DIR}/sw.js" @ONLY)

-- Indexes that the AR04 printing and reprint need to read a sheet's lines without reading the whole
-- declaration. They are part of every new file and are added to an older file when it is opened.

-- A declaration's pending lines (no voucher number, no presentation date) in the order the sheets list
-- them: each sheet of a first printing reads its 41 lines from here, and a line leaves the index as soon
-- as it is stamped, so the next sheet starts at the first line still pending.
CREATE INDEX IF NOT EXISTS DDJJ_Detalle_Pendientes
    ON DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, N_CBU, C_Tipo_Cuenta)
    WHERE N_Comprobante IS NULL AND F_Presentacion IS NULL;

-- A printed declaration's lines by their sheet, for the reprint. Lines not yet printed have no sheet
-- and are left out, so an import does not pay for it.
CREATE INDEX IF NOT EXISTS DDJJ_Detalle_Hoja
    ON DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, Hoja, N_CBU, C_Tipo_Cuenta)
    WHERE Hoja IS NOT NULL;

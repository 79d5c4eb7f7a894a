-- The four tables of the program's database file.
-- Numbers are NUMERIC, texts TEXT; dates are declared DATE and stored as ISO text (yyyy-mm-dd)
-- so that they sort chronologically; the engine shows them as dd/mm/yyyy.

CREATE TABLE PARAMETROS (
    ID          NUMERIC NOT NULL,
    Descripcion TEXT,
    Valor       TEXT
);
CREATE UNIQUE INDEX PARAMETROS_ID ON PARAMETROS (ID);

CREATE TABLE DDJJ (
    Posicion_Fiscal TEXT    NOT NULL,
    Secuencia       NUMERIC NOT NULL,
    Fecha_Vto       DATE,
    Generado        TEXT,
    Fecha_Pres      DATE
);
CREATE UNIQUE INDEX DDJJ_Clave ON DDJJ (Posicion_Fiscal, Secuencia);

CREATE TABLE DDJJ_Detalle (
    Secuencia         NUMERIC,
    N_Posicion_Fiscal NUMERIC,
    N_Agente          NUMERIC,
    N_CBU             TEXT,
    C_Tipo_Cuenta     TEXT,
    C_Tipo_Moneda     TEXT,
    N_Cuit            NUMERIC,
    N_Depositos       NUMERIC,
    I_Base_Imponible  NUMERIC,
    I_Retenido        NUMERIC,
    F_Auditoria       DATE,
    N_Comprobante     NUMERIC,
    F_Presentacion    DATE,
    Hoja              TEXT
);
CREATE UNIQUE INDEX DDJJ_Detalle_Clave ON DDJJ_Detalle (N_Posicion_Fiscal, Secuencia, N_CBU, N_Cuit);

CREATE TABLE AR03 (
    Id              INTEGER PRIMARY KEY AUTOINCREMENT,
    Posicion_Fiscal NUMERIC,
    Semana          NUMERIC,
    Fecha_Pago      DATE,
    Importe         NUMERIC,
    Moneda          TEXT,
    Numero          NUMERIC,
    Impresion       TEXT
);
CREATE INDEX AR03_Posicion_Fiscal ON AR03 (Posicion_Fiscal);
